#include "auto_answer_dialogs.h"
#include "split_bas.h"

// The window as child-process tests run it: the real start, with dialogs that answer alone.
int main(int argc, char* argv[]) {
    return zirared::SplitBas::Main(argc, argv, []() -> std::unique_ptr<zirared::Dialogs> {
        return std::make_unique<zirared::AutoAnswerDialogs>();
    });
}
