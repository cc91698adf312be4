// The installer's entry point. The command line is ignored.
int main(int, char**) {
    return 0;
}
