// A shared library that is not an add-in: it loads, but has no
// orlo_create_addin.

extern "C" __attribute__((visibility("default"))) int orlo_not_an_addin() {
    return 1;
}
