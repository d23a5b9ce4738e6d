package dump;

/** Both kinds of switch, at several code alignments, with negative and wide keys. */
public class Switches {
    public static int dense(int n) {
        switch (n) {
        case -2:
            return 7;
        case -1:
            return 8;
        case 0:
            return 9;
        case 1:
            return 10;
        default:
            return -1;
        }
    }

    public int denseShifted(int a, int b) {
        int c = a + b;
        switch (c) {
        case 10:
            c = 1;
            break;
        case 11:
            c = 2;
            break;
        case 12:
            c = 3;
            break;
        case 14:
            c = 5;
            break;
        }
        return c;
    }

    public long sparse(long v, int n) {
        long r = v;
        switch (n) {
        case Integer.MIN_VALUE:
            r = 1L;
            break;
        case -100000:
            r = 2L;
            break;
        case 1000:
            r = 3L;
            break;
        case Integer.MAX_VALUE:
            r = 4L;
            break;
        default:
            r = 5L;
        }
        return r;
    }

    public String nested(int a, char c) {
        switch (a) {
        case 1:
            switch (c) {
            case 'a':
                return "a";
            case 'z':
                return "z";
            default:
                return "?";
            }
        case 2:
            return "two";
        case 3:
            return "three";
        default:
            return null;
        }
    }

    public static int loop(int[] values) {
        int sum = 0;
        for (int i = 0; i < values.length; i++) {
            switch (values[i] & 3) {
            case 0:
                sum += 1;
                break;
            case 1:
                sum -= 2;
                break;
            case 2:
                sum *= 3;
                break;
            default:
                continue;
            }
            if (sum > 100000)
                break;
        }
        return sum;
    }
}
