#include "run_context.h"

std::string SessionState::MessageCaption() const {
    if (caption_branding) return caption_title;
    if (caption_title.empty()) return "Corvelle Wizard";
    return caption_title + " - Corvelle Wizard";
}
