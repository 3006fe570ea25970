// Qt's warnings as failures, for the test programs and the fuzz targets: a warning that our code
// causes (a bad selection, a painter on a null image, a failed conversion) is a fault that would
// otherwise pass unnoticed. Two kinds of message are let through:
// - those about the environment the programs run in, not about the code (the list below);
// - those a test provokes on purpose, announced with an ExpectedQtMessage in its scope.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string>

namespace znq::testing_support {

// Said by Qt of the machine, whatever the code does:
// - a root session without a runtime folder (every program that asks for one);
// - the offscreen platform, which has no window system to give a window's size limits to;
// - the fonts installed, which may lack the tables for a script that a text of any bytes uses.
inline bool EnvironmentMessage(const QString& message)
{
    static const char* const known[] = {
        "QStandardPaths: XDG_RUNTIME_DIR not set",
        "QStandardPaths: runtime directory",
        "This plugin does not support propagateSizeHints()",
        "OpenType support missing for",
    };
    const QString text = message.trimmed();
    for (const char* start : known)
        if (text.startsWith(QLatin1String(start)))
            return true;
    return false;
}

// What a warning does: fails the test or the fuzz input.
using QtWarningFailure = void (*)(const std::string& message);

struct QtMessageState {
    QtMessageHandler Previous = nullptr;
    QtWarningFailure Fail = nullptr;
    QStringList Expected;
};

inline QtMessageState& qtMessageState()
{
    static QtMessageState state;
    return state;
}

inline void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QtMessageState& state = qtMessageState();
    if (state.Previous)
        state.Previous(type, context, message);
    if (type == QtDebugMsg || type == QtInfoMsg || EnvironmentMessage(message))
        return;
    for (const QString& expected : state.Expected)
        if (message.startsWith(expected))
            return;
    if (state.Fail)
        state.Fail("Qt warned: " + message.toStdString());
}

// From here on every warning, critical or fatal message of Qt that is not let through calls fail.
inline void FailOnQtWarnings(QtWarningFailure fail)
{
    QtMessageState& state = qtMessageState();
    state.Fail = fail;
    state.Previous = qInstallMessageHandler(onQtMessage);
}

// While it lives, warnings that start with its text are let through: a test that provokes one
// on purpose (a file written to a full device) says so.
class ExpectedQtMessage {
public:
    explicit ExpectedQtMessage(const char* start) { qtMessageState().Expected.append(start); }
    ~ExpectedQtMessage() { qtMessageState().Expected.removeLast(); }
    ExpectedQtMessage(const ExpectedQtMessage&) = delete;
    ExpectedQtMessage& operator=(const ExpectedQtMessage&) = delete;
};

} // namespace znq::testing_support
