package sample;

@Meta(order = 3, name = "shapes", kind = Kind.FANCY, type = String.class, tags = {"a", "b"},
      range = @Range(min = 2, max = 5), weight = 0.5, flag = true, big = 1234567890123L,
      letter = 'z', small = 7, mid = 300, ratio = 1.5f)
public class Shapes implements Comparable<Shapes>, java.io.Serializable {
    private static final long serialVersionUID = 1L;
    public static final int COUNT = 42;
    public static final long BIG = 1L << 40;
    public static final float RATIO = 0.1f;
    public static final double PI_ISH = 3.14159;
    public static final String LABEL = "shapes";

    private double width;
    @Deprecated
    protected int legacy;

    public Shapes(double width) {
        this.width = width;
    }

    public double area(double height) {
        double a = width * height;
        return a;
    }

    public int classify(int n) {
        switch (n) {
        case 1:
            return 10;
        case 2:
            return 20;
        case 3:
            return 30;
        default:
            return -1;
        }
    }

    public int sparse(int n) {
        switch (n) {
        case 1:
            return 1;
        case 1000:
            return 2;
        case 100000:
            return 3;
        }
        return 0;
    }

    public static int sum(int[] values) {
        int total = 0;
        for (int i = 0; i < values.length; i++)
            total += values[i];
        return total;
    }

    public String safe(Object o) {
        try {
            return o.toString();
        } catch (NullPointerException e) {
            return "null";
        } finally {
            width += 1;
        }
    }

    public void annotated(@Meta(order = 1) int first, int second, @Meta(name = "third") String third) {
    }

    @Deprecated
    public void old() {
    }

    public int compareTo(Shapes other) {
        return Double.compare(width, other.width);
    }

    class Inner {
        int depth() {
            return COUNT + (int) width;
        }
    }

    static class Nested {
        long[][] grid = new long[2][3];
    }
}
