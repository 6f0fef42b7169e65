// The program: the one application object, started by the framework's entry.
#include "ClientApp.h"

CClientApp theApp;

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  return AfxWinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
}
