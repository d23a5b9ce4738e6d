package dump;

/** A method with more than 255 locals: every access above 255 needs the wide prefix. */
public class ManyLocals {
    public static double many(int p) {
        int a0 = p, a1 = a0 + 1, a2 = a1 + 1, a3 = a2 + 1, a4 = a3 + 1, a5 = a4 + 1, a6 = a5 + 1, a7 = a6 + 1, a8 = a7 + 1, a9 = a8 + 1;
        int b0 = a9, b1 = b0 + 1, b2 = b1 + 1, b3 = b2 + 1, b4 = b3 + 1, b5 = b4 + 1, b6 = b5 + 1, b7 = b6 + 1, b8 = b7 + 1, b9 = b8 + 1;
        long c0 = b9, c1 = c0 + 1, c2 = c1 + 1, c3 = c2 + 1, c4 = c3 + 1, c5 = c4 + 1, c6 = c5 + 1, c7 = c6 + 1, c8 = c7 + 1, c9 = c8 + 1;
        long d0 = c9, d1 = d0 + 1, d2 = d1 + 1, d3 = d2 + 1, d4 = d3 + 1, d5 = d4 + 1, d6 = d5 + 1, d7 = d6 + 1, d8 = d7 + 1, d9 = d8 + 1;
        double e0 = d9, e1 = e0 + 1, e2 = e1 + 1, e3 = e2 + 1, e4 = e3 + 1, e5 = e4 + 1, e6 = e5 + 1, e7 = e6 + 1, e8 = e7 + 1, e9 = e8 + 1;
        double f0 = e9, f1 = f0 + 1, f2 = f1 + 1, f3 = f2 + 1, f4 = f3 + 1, f5 = f4 + 1, f6 = f5 + 1, f7 = f6 + 1, f8 = f7 + 1, f9 = f8 + 1;
        long g0 = (long) f9, g1 = g0 + 1, g2 = g1 + 1, g3 = g2 + 1, g4 = g3 + 1, g5 = g4 + 1, g6 = g5 + 1, g7 = g6 + 1, g8 = g7 + 1, g9 = g8 + 1;
        long h0 = g9, h1 = h0 + 1, h2 = h1 + 1, h3 = h2 + 1, h4 = h3 + 1, h5 = h4 + 1, h6 = h5 + 1, h7 = h6 + 1, h8 = h7 + 1, h9 = h8 + 1;
        double i0 = h9, i1 = i0 + 1, i2 = i1 + 1, i3 = i2 + 1, i4 = i3 + 1, i5 = i4 + 1, i6 = i5 + 1, i7 = i6 + 1, i8 = i7 + 1, i9 = i8 + 1;
        double j0 = i9, j1 = j0 + 1, j2 = j1 + 1, j3 = j2 + 1, j4 = j3 + 1, j5 = j4 + 1, j6 = j5 + 1, j7 = j6 + 1, j8 = j7 + 1, j9 = j8 + 1;
        long k0 = (long) j9, k1 = k0 + 1, k2 = k1 + 1, k3 = k2 + 1, k4 = k3 + 1, k5 = k4 + 1, k6 = k5 + 1, k7 = k6 + 1, k8 = k7 + 1, k9 = k8 + 1;
        long l0 = k9, l1 = l0 + 1, l2 = l1 + 1, l3 = l2 + 1, l4 = l3 + 1, l5 = l4 + 1, l6 = l5 + 1, l7 = l6 + 1, l8 = l7 + 1, l9 = l8 + 1;
        double m0 = l9, m1 = m0 + 1, m2 = m1 + 1, m3 = m2 + 1, m4 = m3 + 1, m5 = m4 + 1, m6 = m5 + 1, m7 = m6 + 1, m8 = m7 + 1, m9 = m8 + 1;
        double n0 = m9, n1 = n0 + 1, n2 = n1 + 1, n3 = n2 + 1, n4 = n3 + 1, n5 = n4 + 1, n6 = n5 + 1, n7 = n6 + 1, n8 = n7 + 1, n9 = n8 + 1;
        int q0 = (int) n9, q1 = q0 + 1, q2 = q1 + 1, q3 = q2 + 1, q4 = q3 + 1, q5 = q4 + 1, q6 = q5 + 1, q7 = q6 + 1, q8 = q7 + 1, q9 = q8 + 1;
        float r0 = q9, r1 = r0 + 1, r2 = r1 + 1, r3 = r2 + 1, r4 = r3 + 1, r5 = r4 + 1, r6 = r5 + 1, r7 = r6 + 1, r8 = r7 + 1, r9 = r8 + 1;
        String s0 = "s" + r9, s1 = s0 + 1, s2 = s1 + 1, s3 = s2 + 1, s4 = s3 + 1, s5 = s4 + 1, s6 = s5 + 1, s7 = s6 + 1, s8 = s7 + 1, s9 = s8 + 1;
        int t0 = s9.length(), t1 = t0 + 1, t2 = t1 + 1, t3 = t2 + 1, t4 = t3 + 1, t5 = t4 + 1, t6 = t5 + 1, t7 = t6 + 1, t8 = t7 + 1, t9 = t8 + 1;
        t9 += 1000;
        t8 -= 3;
        t7++;
        float u0 = t9 * 2.5f;
        long u1 = t8 * 7L;
        double u2 = u1 / 3.0;
        String u3 = s9 + u0;
        Object u4 = u3;
        int[] u5 = new int[] { t7, t9 };
        u5[1] += t6;
        for (int k = 0; k < 300; k += 299)
            u4 = u4.toString() + k;
        try {
            u0 += u5[3];
        } catch (RuntimeException ex) {
            u0 -= 1;
        }
        return u0 + u1 + u2 + u4.hashCode() + a0 + b0 + c0 + d0 + e0 + f0 + g0 + h0 + i0 + j0 + k0 + l0 + m0 + n0 + q0 + r0
                + s0.length();
    }
}
