package com.ulno.gc;

import java.lang.annotation.Retention;
import java.lang.annotation.RetentionPolicy;

/**
 * One rule-language annotation: its name and one entry per argument in each
 * of the five parallel arrays (type character 'b', 'f' or 's', key, and the
 * boolean, float and string value).
 */
@Retention(RetentionPolicy.RUNTIME)
public @interface SGLAnnotation {
    String name();
    char[] types();
    String[] names();
    boolean[] bvals();
    double[] dvals();
    String[] svals();
}
