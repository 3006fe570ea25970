/// \file
/// The read-out's test seam: how often it painted. Not part of the published interface; not
/// installed.
#pragma once

#include "ZNQ_NumLab.h"

namespace znq {

/// Test access to a read-out's paint counter.
class TNumLabSeams {
public:
    /// Number of Paint calls that drew.
    static int PaintCount(const TNumLab& label) { return label.m_paintCount; }
};

} // namespace znq
