// What the fuzz targets share: a failed invariant aborts with its description, so that libFuzzer
// keeps the input; widget targets run on Qt's offscreen platform under one application object,
// where a warning of Qt is a failed invariant too.
#pragma once

#include "../tests/qt_messages.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace znq::fuzz {

[[noreturn]] inline void fail(const std::string& what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

inline void require(bool holds, const std::string& what)
{
    if (!holds)
        fail(what);
}

// The application object lives until the process ends and is never destroyed: destroying it in
// the exit handlers, after Qt's own, would crash.
inline void startApplication(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    testing_support::FailOnQtWarnings([](const std::string& message) { fail(message); });
}

} // namespace znq::fuzz
