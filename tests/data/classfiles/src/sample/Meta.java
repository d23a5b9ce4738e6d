package sample;

import java.lang.annotation.Retention;
import java.lang.annotation.RetentionPolicy;

@Retention(RetentionPolicy.RUNTIME)
public @interface Meta {
    int order() default 0;
    String name() default "";
    Kind kind() default Kind.PLAIN;
    Class<?> type() default Object.class;
    String[] tags() default {};
    Range range() default @Range(min = 0, max = 1);
    double weight() default 1.0;
    boolean flag() default false;
    long big() default 0L;
    char letter() default 'a';
    byte small() default 0;
    short mid() default 0;
    float ratio() default 0f;
}
