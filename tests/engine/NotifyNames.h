// SPDX-License-Identifier: GPL-3.0-or-later
// Display notifications as short words, for tests that log them.
#pragma once

#include "CustomDXDraw.h"

inline const char* NotifyName(TDXDrawNotifyType t)
{
    switch (t) {
    case TDXDrawNotifyType::Destroying: return "destroying";
    case TDXDrawNotifyType::Initializing: return "initializing";
    case TDXDrawNotifyType::Initialize: return "initialize";
    case TDXDrawNotifyType::InitializeSurface: return "surface-initialize";
    case TDXDrawNotifyType::Finalize: return "finalize";
    case TDXDrawNotifyType::FinalizeSurface: return "surface-finalize";
    case TDXDrawNotifyType::Restore: return "restore";
    case TDXDrawNotifyType::SetSurfaceSize: return "size";
    }
    return "?";
}
