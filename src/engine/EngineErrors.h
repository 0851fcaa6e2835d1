// SPDX-License-Identifier: GPL-3.0-or-later
// Exception classes raised by the engine layer. Messages are formatted
// exactly as the game shows them, so callers can pass them on unchanged.
#pragma once

#include <stdexcept>
#include <string>

// Base of every engine error.
class EEngineError : public std::runtime_error {
public:
    explicit EEngineError(const std::string& message) : std::runtime_error(message) {}
};

#define ZARVENOK_ENGINE_ERROR(Name)                                                  \
    class Name : public EEngineError {                                               \
    public:                                                                          \
        explicit Name(const std::string& message) : EEngineError(message) {}        \
    }

ZARVENOK_ENGINE_ERROR(ESpriteError);
ZARVENOK_ENGINE_ERROR(EListError);              // "List index out of bounds (%d)"
ZARVENOK_ENGINE_ERROR(EPictureCollectionError);
ZARVENOK_ENGINE_ERROR(EWaveCollectionError);
ZARVENOK_ENGINE_ERROR(EWaveStreamError);        // "Wave is invalid"
ZARVENOK_ENGINE_ERROR(EDXDrawError);
ZARVENOK_ENGINE_ERROR(EStreamError);            // "Invalid stream format", "Stream read error"
ZARVENOK_ENGINE_ERROR(EInvalidGraphic);         // "DIB is invalid"
ZARVENOK_ENGINE_ERROR(EFOpenError);             // "Cannot open file "%s". %s"
ZARVENOK_ENGINE_ERROR(EDXSoundError);
ZARVENOK_ENGINE_ERROR(EDirectSoundError);       // "%s cannot be initialized" (no sound device)
ZARVENOK_ENGINE_ERROR(EDirectSoundBufferError); // "%s cannot be made", "%s cannot be locked"

#undef ZARVENOK_ENGINE_ERROR

// printf-style formatting for error messages.
std::string FormatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
