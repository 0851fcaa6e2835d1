// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's video.
#include "HeadlessVideo.h"

#include <algorithm>
#include <cstring>

namespace {

// Narrow channels widen by repeating their top bits, so that full scale is 255.
uint32_t Widen5(uint32_t v)
{
    return (v << 3) | (v >> 2);
}

uint32_t Widen6(uint32_t v)
{
    return (v << 2) | (v >> 4);
}

template <typename T>
T Load(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

uint32_t PixelToRGB(const uint8_t* p, TFrameFormat format)
{
    switch (format) {
    case TFrameFormat::XRGB8888: return Load<uint32_t>(p) & 0xFFFFFF;
    case TFrameFormat::RGB888: return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    case TFrameFormat::RGB565: {
        const uint32_t v = Load<uint16_t>(p);
        return (Widen5((v >> 11) & 0x1F) << 16) | (Widen6((v >> 5) & 0x3F) << 8) | Widen5(v & 0x1F);
    }
    case TFrameFormat::RGB555: {
        const uint32_t v = Load<uint16_t>(p);
        return (Widen5((v >> 10) & 0x1F) << 16) | (Widen5((v >> 5) & 0x1F) << 8) | Widen5(v & 0x1F);
    }
    }
    return 0;
}

} // namespace

THeadlessVideo::THeadlessVideo(THeadlessEvents& events) : Events_(events), Modes_(DefaultModes()) {}

std::vector<TDisplayMode> THeadlessVideo::DefaultModes()
{
    return {{640, 480, 16}, {800, 600, 16}, {800, 600, 32}, {1024, 768, 16}, {1024, 768, 32}};
}

void THeadlessVideo::CreateWindow(const std::string& caption, int clientWidth, int clientHeight)
{
    HasWindow_ = true;
    Caption_ = caption;
    Placement_ = {(DesktopWidth - clientWidth) / 2, (DesktopHeight - clientHeight) / 2, clientWidth, clientHeight};
}

void THeadlessVideo::ShowWindow()
{
    if (Shown_) return;
    Shown_ = true;
    Events_.Push(TInputEvent::TKind::Shown);
}

void THeadlessVideo::SaveWindowPlacement()
{
    SavedPlacement_ = Placement_;
}

void THeadlessVideo::RestoreWindowPlacement()
{
    if (!SavedPlacement_) return;
    Placement_ = *SavedPlacement_;
    SavedPlacement_.reset();
}

void THeadlessVideo::SetWindowPosition(int left, int top)
{
    Placement_.Left = left;
    Placement_.Top = top;
}

bool THeadlessVideo::EnterFullScreen(const TDisplayMode& mode)
{
    if (std::find(Modes_.begin(), Modes_.end(), mode) == Modes_.end()) return false;
    FullScreen_ = mode;
    Placement_ = {0, 0, mode.Width, mode.Height};
    return true;
}

void THeadlessVideo::Present(const TFrameView& frame, const TPresentOptions& options)
{
    FrameWidth_ = frame.Width;
    FrameHeight_ = frame.Height;
    FrameFormat_ = frame.Format;
    const size_t rowBytes = frame.RowBytes();
    RawFrame_.resize(rowBytes * static_cast<size_t>(FrameHeight_));
    for (int y = 0; y < FrameHeight_; ++y)
        std::memcpy(RawFrame_.data() + rowBytes * static_cast<size_t>(y), frame.Row(y), rowBytes);
    ConvertedValid_ = false;
    LastOptions_ = options;
    ++PresentCount_;
}

const std::vector<uint32_t>& THeadlessVideo::LastFrame() const
{
    if (!ConvertedValid_) {
        const size_t bytes = static_cast<size_t>(BytesPerPixel(FrameFormat_));
        Converted_.resize(static_cast<size_t>(FrameWidth_) * static_cast<size_t>(FrameHeight_));
        for (size_t i = 0; i < Converted_.size(); ++i)
            Converted_[i] = PixelToRGB(RawFrame_.data() + i * bytes, FrameFormat_);
        ConvertedValid_ = true;
    }
    return Converted_;
}

uint32_t THeadlessVideo::FramePixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FrameWidth_ || y >= FrameHeight_) return 0;
    return LastFrame()[static_cast<size_t>(y) * static_cast<size_t>(FrameWidth_) + static_cast<size_t>(x)];
}
