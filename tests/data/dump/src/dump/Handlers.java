package dump;

import java.io.IOException;

/** Exception handlers: several catches, finally, nested try, synchronized blocks, throw. */
public class Handlers {
    private final Object lock = new Object();
    private int count;

    public int several(String s) {
        try {
            return Integer.parseInt(s);
        } catch (NumberFormatException e) {
            return -1;
        } catch (IllegalArgumentException e) {
            return -2;
        } catch (RuntimeException e) {
            return -3;
        }
    }

    public String withFinally(Object o) throws IOException {
        StringBuilder b = new StringBuilder();
        try {
            try {
                b.append(o.toString());
                if (b.length() > 10)
                    throw new IOException("long");
            } finally {
                b.append('!');
            }
        } catch (NullPointerException e) {
            b.append("null");
        }
        return b.toString();
    }

    public void locked() {
        synchronized (lock) {
            count++;
        }
    }

    public int count() {
        synchronized (lock) {
            return count;
        }
    }

    public static synchronized void fail(int code) throws Exception {
        if (code < 0)
            throw new IllegalStateException("code " + code);
        throw new Exception(String.valueOf(code));
    }

    public boolean rethrow(Runnable r) {
        try {
            r.run();
            return true;
        } catch (Error e) {
            throw e;
        } catch (Throwable t) {
            return false;
        }
    }
}
