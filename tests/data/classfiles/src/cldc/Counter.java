package cldc;

public class Counter {
    private int count;
    private Object last;

    public int step(int by) {
        for (int i = 0; i < by; i++) {
            if (i % 2 == 0)
                count += i;
            else
                count -= 1;
        }
        return count;
    }

    public Object remember(Object value) {
        Object previous = last;
        last = value != null ? value : "none";
        return previous;
    }

    public static long total(long[] values) {
        long sum = 0;
        for (int i = 0; i < values.length; i++)
            sum += values[i];
        return sum;
    }
}
