// brindle-kbdsim: the virtual keyboard.
int main() { return 2; }
