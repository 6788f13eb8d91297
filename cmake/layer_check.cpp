// Links one layer's every object against the layers below it; a reference it cannot resolve
// there is a call sideways or upwards.
int main() { return 0; }
