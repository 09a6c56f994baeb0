// uzupelnienie: the suite's update installer.
#include <cstdio>

int main() {
  std::puts("uzupelnienie");
  return 0;
}
