// Writes the example programs into examples/.
int main() { return 1; }
