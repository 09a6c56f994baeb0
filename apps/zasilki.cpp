// zasilki: the benefit program. Usage: zasilki [--demo] DIR
#include <cstdio>

int main() {
  std::puts("zasilki");
  return 0;
}
