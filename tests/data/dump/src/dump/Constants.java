package dump;

/** Constants of every kind and size: the iconst, bipush, sipush and ldc families. */
public class Constants {
    public static final long BIG = 1234567890123456789L;
    public static final double E = 2.718281828459045;
    public static final float THIRD = 1f / 3f;
    public static final int MILLION = 1000000;
    public static final String GREETING = "hello \"dump\"";

    public long longs(long x) {
        long a = 0L;
        long b = 1L;
        long c = -1L;
        long d = 123456789012L;
        long e = Long.MIN_VALUE;
        return x * a + b - c + d + e + BIG;
    }

    public double doubles(double x) {
        double a = 0.0;
        double b = 1.0;
        double c = -0.5;
        double d = 1e300;
        double e = Double.NaN;
        double f = Double.NEGATIVE_INFINITY;
        return x + a + b + c + d + e + f + E;
    }

    public float floats(float x) {
        return x + 0f + 1f + 2f + 3f + 0.1f + Float.MAX_VALUE + THIRD;
    }

    public int ints(int x) {
        int a = -1, b = 0, c = 5, d = -128, e = 127, f = -129, g = 128, h = -32768, i = 32767, j = 32768,
                k = -32769, l = MILLION;
        return x + a + b + c + d + e + f + g + h + i + j + k + l;
    }

    public Object[] objects() {
        return new Object[] { GREETING, "", Constants.class, String[].class, int.class, null };
    }

    public int shifts(int v) {
        v <<= 3;
        v >>= 2;
        v >>>= 1;
        v ^= 0x55;
        v |= 0x100;
        v &= ~0xF;
        v %= 97;
        return -v;
    }
}
