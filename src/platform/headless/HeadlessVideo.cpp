// The simulator's video.
#include "HeadlessVideo.h"

#include <algorithm>
#include <cstring>

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

void THeadlessVideo::Present(const TDirectDrawSurface& frame, const TPresentOptions& options)
{
    FrameWidth_ = frame.Width();
    FrameHeight_ = frame.Height();
    FrameFormat_ = frame.PixelFormat();
    const size_t rowBytes = static_cast<size_t>(FrameWidth_) * static_cast<size_t>(FrameFormat_.BytesPerPixel());
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
        const int bytes = FrameFormat_.BytesPerPixel();
        Converted_.resize(static_cast<size_t>(FrameWidth_) * static_cast<size_t>(FrameHeight_));
        for (size_t i = 0; i < Converted_.size(); ++i)
            Converted_[i] = FrameFormat_.PixelToRGB(ReadPixelValue(RawFrame_.data() + i * static_cast<size_t>(bytes),
                                                                   FrameFormat_.BitCount));
        ConvertedValid_ = true;
    }
    return Converted_;
}

uint32_t THeadlessVideo::FramePixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FrameWidth_ || y >= FrameHeight_) return 0;
    return LastFrame()[static_cast<size_t>(y) * static_cast<size_t>(FrameWidth_) + static_cast<size_t>(x)];
}
