#include "message_text.h"

namespace zirared {

std::string ErrorNumberText(int number) {
    return "Errore n° " + std::to_string(number);
}

std::string FailureText(const std::string& description, int number) {
    return description + kLineBreak + ErrorNumberText(number);
}

const char* MessageKindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return "avviso";
        case MessageKind::Information:
            return "informazione";
        case MessageKind::Question:
            return "domanda";
        case MessageKind::Error:
            return "errore";
    }
    return "messaggio";
}

}  // namespace zirared
