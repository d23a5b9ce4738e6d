package dump;

import java.util.ArrayList;
import java.util.Iterator;
import java.util.List;
import java.util.Map;

/** Calls through interfaces, casts and type tests. */
public class Interfaces implements Runnable, Comparable<Interfaces> {
    public interface Shape {
        double area();

        String name(int detail, long seed, Object extra);
    }

    private final List<String> items = new ArrayList<String>();
    private int runs;

    public void run() {
        runs++;
    }

    public int compareTo(Interfaces other) {
        return runs - other.runs;
    }

    public static double total(List<Shape> shapes, Map<String, Shape> byName) {
        double sum = 0;
        for (Iterator<Shape> it = shapes.iterator(); it.hasNext();) {
            Shape s = it.next();
            sum += s.area();
            byName.put(s.name(1, 2L, null), s);
        }
        return sum;
    }

    public int describe(Object o) {
        if (o instanceof Runnable)
            ((Runnable) o).run();
        if (o instanceof Comparable) {
            @SuppressWarnings("unchecked")
            Comparable<Object> c = (Comparable<Object>) o;
            return c.compareTo(o);
        }
        if (o instanceof String[])
            return ((String[]) o).length;
        items.add(String.valueOf(o));
        return items.size();
    }

    public Shape square(final double side) {
        return new Shape() {
            public double area() {
                return side * side;
            }

            public String name(int detail, long seed, Object extra) {
                return "square" + detail + seed + extra;
            }
        };
    }
}
