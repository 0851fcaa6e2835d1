// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebSoundBuffer.h"

#include <emscripten.h>

namespace {

// Only a page that asked (with a Module.soundsPlayed list) is told.
EM_JS(void, WebSoundPlayed, (const char* label), {
    if (Array.isArray(Module.soundsPlayed)) Module.soundsPlayed.push(UTF8ToString(label));
});

} // namespace

void TWebSoundBuffer::Play(bool looped)
{
    Sound_->Play(looped);
    WebSoundPlayed(Label_.c_str());
}

std::unique_ptr<ISoundBuffer> TWebSoundBuffer::Duplicate()
{
    std::unique_ptr<ISoundBuffer> copy = Sound_->Duplicate();
    if (!copy) return nullptr;
    auto twin = std::make_unique<TWebSoundBuffer>(std::move(copy));
    twin->SetLabel(Label_);
    return twin;
}

void TWebSoundBuffer::SetLabel(const std::string& label)
{
    Label_ = label;
    Sound_->SetLabel(label);
}
