package dump;

/** Array creation of every kind: newarray for each primitive, anewarray, multianewarray. */
public class Arrays {
    public static Object[] all(int n) {
        boolean[] z = new boolean[n];
        char[] c = new char[n + 1];
        float[] f = new float[2];
        double[] d = new double[3];
        byte[] b = new byte[4];
        short[] s = new short[5];
        int[] i = new int[6];
        long[] j = new long[7];
        String[] names = new String[8];
        int[][] grid = new int[3][4];
        long[][][] cube = new long[2][n][5];
        String[][] table = new String[n][];
        Object[][][] partial = new Object[1][2][];
        z[0] = true;
        c[0] = 'x';
        f[1] = 1.5f;
        d[2] = -2.25;
        b[3] = (byte) -128;
        s[4] = (short) 32767;
        i[5] = i.length;
        j[6] = 1L << 40;
        names[7] = "seven";
        grid[2][3] = grid.length * grid[0].length;
        cube[1][0][4] = cube[0].length;
        table[0] = names;
        partial[0][1] = table;
        return new Object[] { z, c, f, d, b, s, i, j, names, grid, cube, table, partial };
    }

    public int sum(int[][] m) {
        int total = 0;
        for (int r = 0; r < m.length; r++)
            for (int k = 0; k < m[r].length; k++)
                total += m[r][k];
        return total;
    }
}
