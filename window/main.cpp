#include "dialogs.h"
#include "split_bas.h"

int main(int argc, char* argv[]) {
    return zirared::SplitBas::Main(argc, argv, zirared::CreateDialogs);
}
