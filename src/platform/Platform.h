// SPDX-License-Identifier: GPL-3.0-or-later
// The platform interface: everything the game needs from the machine. The
// SDL implementation (src/platform/sdl) and the headless one
// (src/platform/headless) sit behind it; nothing above it knows which. It
// knows nothing of the engine above it: a frame arrives as a plain view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

// ---------------------------------------------------------------- time

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since some start, as an unsigned 32-bit count that wraps.
    virtual uint32_t Now() = 0;
    // Blocks the game's thread (the fake clock just moves on).
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// ---------------------------------------------------------------- input

enum class TMouseButton { Left, Right, Middle };

enum class TWindowState { Normal, Minimized, Maximized };

// Virtual-key codes the game reads; letters and digits are their upper-case
// character codes ('A' = 65, '0' = 48).
namespace VirtualKey {
inline constexpr int Backspace = 8;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
} // namespace VirtualKey

struct TInputEvent {
    enum class TKind {
        KeyDown,      // Key, Alt
        MouseDown,    // Button, X, Y
        MouseUp,      // Button, X, Y
        MouseMove,    // X, Y
        Close,        // the user asked to close the window
        Activate,     // the application gained activation
        Deactivate,   // the application lost activation
        Minimized,    // the window state changed (after the fact)
        Restored,
        Maximized,
        Resized,      // the window's size changed
        Shown,        // the window was shown for the first time
        Terminate,    // a termination signal: save and end cleanly
    };
    TKind Kind = TKind::KeyDown;
    int Key = 0;
    bool Alt = false;
    TMouseButton Button = TMouseButton::Left;
    // Positions are on the 800 x 600 back surface; the platform maps window
    // coordinates back and drops points on letterbox bars.
    int X = 0;
    int Y = 0;
};

class IEventSource {
public:
    virtual ~IEventSource() = default;
    // Waits at most timeoutMs (0: just look) for the next event.
    virtual bool WaitEvent(TInputEvent& event, uint32_t timeoutMs) = 0;
};

// ---------------------------------------------------------------- video

struct TDisplayMode {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    bool operator==(const TDisplayMode&) const = default;
};

// The pixel layouts a finished frame comes in. Each pixel is one value in
// the machine's byte order, except that 24-bit pixels are the bytes blue,
// green, red.
enum class TFrameFormat {
    XRGB8888,  // 32 bits, the top byte unused
    RGB565,
    RGB555,    // the top bit unused
    RGB888,    // 24 bits
};

constexpr int BytesPerPixel(TFrameFormat format)
{
    switch (format) {
    case TFrameFormat::XRGB8888: return 4;
    case TFrameFormat::RGB888: return 3;
    case TFrameFormat::RGB565:
    case TFrameFormat::RGB555: return 2;
    }
    return 0;
}

// A finished frame as the display hands it over: its pixels are borrowed for
// the length of the call that receives it, rows possibly padded.
struct TFrameView {
    const uint8_t* Bits = nullptr;  // the top row
    int Pitch = 0;                  // bytes from one row to the next
    int Width = 0;
    int Height = 0;
    TFrameFormat Format = TFrameFormat::XRGB8888;

    const uint8_t* Row(int y) const { return Bits + static_cast<ptrdiff_t>(y) * Pitch; }
    // The bytes of a row that hold pixels.
    size_t RowBytes() const { return static_cast<size_t>(Width) * static_cast<size_t>(BytesPerPixel(Format)); }
};

struct TPresentOptions {
    bool Stretch = true;      // scale to the whole client area (letterboxed)
    bool Center = true;       // without Stretch: centre the frame
    bool WaitVBlank = true;   // synchronise with the vertical blank
};

class IVideo {
public:
    virtual ~IVideo() = default;

    // The one window: client size, caption; placed centred, not yet shown.
    // A platform may show the client area scaled to a larger window or
    // screen; to the game it keeps this size.
    virtual void CreateWindow(const std::string& caption, int clientWidth, int clientHeight) = 0;
    // Whether CreateWindow has made the window (the display needs one).
    virtual bool HasWindow() const { return ClientWidth() > 0 && ClientHeight() > 0; }
    // Shows it; the platform then reports a Shown event.
    virtual void ShowWindow() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual TWindowState WindowState() const = 0;
    virtual void SetWindowState(TWindowState state) = 0;
    // Single fixed border (true) or none (false, for full screen).
    virtual void SetBordered(bool bordered) = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    // The window's icon, 0xAARRGGBB pixels row by row.
    virtual void SetIcon(int /*width*/, int /*height*/, const std::vector<uint32_t>& /*pixels*/) {}
    // Keeps the pointer inside the window (true) or lets it leave.
    virtual void SetPointerGrab(bool /*grab*/) {}
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;

    // Remembers the window's position and size; Restore puts them back once.
    virtual void SaveWindowPlacement() = 0;
    virtual void RestoreWindowPlacement() = 0;

    // The pixel depth of the desktop, which window surfaces take.
    virtual int DesktopBitCount() const = 0;
    // Full-screen modes the platform can show, in any order.
    virtual std::vector<TDisplayMode> FullScreenModes() = 0;
    // Takes the whole screen in the mode; false when it is refused.
    virtual bool EnterFullScreen(const TDisplayMode& mode) = 0;
    // Back to the window (the desktop's own mode).
    virtual void LeaveFullScreen() = 0;

    // Shows a finished frame: in a window scaled or centred in the client
    // area, in full screen scaled to the mode and letterboxed.
    virtual void Present(const TFrameView& frame, const TPresentOptions& options) = 0;
};

// ---------------------------------------------------------------- sound

// One device buffer holding a recording; duplicates share the samples.
class ISoundBuffer {
public:
    virtual ~ISoundBuffer() = default;
    // Starts from the current position, once or looping.
    virtual void Play(bool looped) = 0;
    // Stops and keeps the position.
    virtual void Stop() = 0;
    virtual void Rewind() = 0;
    virtual bool IsPlaying() = 0;
    // A buffer whose memory the device took back (never on most platforms).
    virtual bool IsLost() = 0;
    virtual void SetVolume(int hundredthsOfDecibel) = 0;  // 0 full, negative quieter
    virtual void SetPan(int hundredthsOfDecibel) = 0;     // 0 centre
    virtual void SetFrequency(uint32_t samplesPerSecond) = 0; // 0: the recording's own
    // Another buffer over the same samples; nullptr when none can be made.
    virtual std::unique_ptr<ISoundBuffer> Duplicate() = 0;
    // The recording's name, for platforms that report what they play;
    // duplicates keep it.
    virtual void SetLabel(const std::string& /*label*/) {}
};

class IAudioDevice {
public:
    virtual ~IAudioDevice() = default;
    // Opens the default device; false when there is none (the game is then silent).
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // A buffer from a "fmt " block and its sample data; nullptr when it cannot be made.
    virtual std::unique_ptr<ISoundBuffer> CreateBuffer(std::span<const uint8_t> format, std::span<const uint8_t> data) = 0;
    // The player's mute key: silences the effects and the music, or lets
    // them sound again at their volumes; true when now muted. Holds whether
    // the device is open or not, and is kept for later runs where the
    // platform keeps settings.
    virtual bool ToggleMute() = 0;
    virtual bool Muted() const = 0;
};

// Tracker-module music: one module at a time, playing in the background.
class IModulePlayer {
public:
    virtual ~IModulePlayer() = default;
    // A handle, or 0 when the file cannot be loaded.
    virtual int32_t SongLoadFromFile(const std::string& path) = 0;
    virtual void SongPlay(int32_t handle) = 0;
    // The current order position; 0 while the first order plays.
    virtual int32_t SongGetOrder(int32_t handle) = 0;
    virtual void SongFree(int32_t handle) = 0;
};

// ---------------------------------------------------------------- desktop

class IShell {
public:
    virtual ~IShell() = default;
    // Opens a web address or a file with the desktop's handler; failures are ignored.
    virtual void Open(const std::string& target) = 0;
};

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void Show(const std::string& title, const std::string& text) = 0;
};

// One request: the address with its query, the headers to send, and how
// long it may take. A GET, or a POST of Body.
struct THttpRequest {
    std::string Url;
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Method = "GET";  // "GET" or "POST"
    std::string Body;            // what a POST sends
    uint32_t ConnectTimeoutMs = 5000;
    // For the whole request, from its start to the last byte of the reply,
    // however slowly that comes. Requests made for one purpose share one
    // deadline: each is given what is left of it.
    uint32_t TimeoutMs = 10000;
    // A longer reply is not the server's (the game's replies are a few
    // dozen bytes) and is given up on at this size.
    size_t MaxReplyBytes = 4096;
};

enum class THttpOutcome {
    Pending,      // still under way
    Ok,           // answered with a 2xx status: Body holds the reply
    Refused,      // answered with another status (a redirect included, never followed)
    Unreachable,  // no usable answer: no connection, none in time, too long, cancelled
};

struct THttpResult {
    THttpOutcome Outcome = THttpOutcome::Pending;
    int Status = 0;       // the HTTP status, when one came
    std::string Body;     // the reply, for Ok
    // For Refused and Unreachable, in plain words a player can read: the
    // server's own reason when it gave one ("token already used"),
    // otherwise what went wrong ("no answer from the server in time").
    std::string Reason;
};

// A request under way. Dropping it cancels it.
class IHttpTransfer {
public:
    virtual ~IHttpTransfer() = default;
    // Does what can be done without waiting and says where the request
    // stands; once it has an outcome, that stays.
    virtual const THttpResult& Poll() = 0;
    // Gives up: the connection is dropped and a pending request ends
    // Unreachable ("cancelled").
    virtual void Cancel() = 0;
};

// HTTP requests with cookies kept for the run.
class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // Starts a request and returns at once; poll it each frame.
    virtual std::unique_ptr<IHttpTransfer> Start(const THttpRequest& request) = 0;
    // Waits for the request: the body of a 2xx reply. Anything else (no
    // connection, any other status, a time-out, a reply too long) is raised
    // as std::runtime_error with the reason.
    virtual std::string Get(const THttpRequest& request) = 0;
};

// ---------------------------------------------------------------- all of it

class IPlatform {
public:
    virtual ~IPlatform() = default;
    virtual IClock& Clock() = 0;
    virtual IEventSource& Events() = 0;
    virtual IVideo& Video() = 0;
    virtual IAudioDevice& Audio() = 0;
    virtual IModulePlayer& Music() = 0;
    virtual IShell& Shell() = 0;
    virtual IMessageBox& MessageBox() = 0;
    virtual IHttpClient& Http() = 0;
};
