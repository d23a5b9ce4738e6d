package com.ulno.gc;

import java.lang.annotation.Retention;
import java.lang.annotation.RetentionPolicy;

/** The container that carries the rule-language annotations of a rule file, rule or attribute. */
@Retention(RetentionPolicy.RUNTIME)
public @interface SGLAnnotations {
    SGLAnnotation[] value();
}
