package sample;

public enum Kind {
    PLAIN, FANCY
}
