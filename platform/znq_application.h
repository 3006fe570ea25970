/// \file
/// The application object: start-up, the event loop, errors that escape event handlers, the
/// system beep and the locale's number and date texts.
#pragma once

#include <QApplication>
#include <QLocale>
#include <exception>
#include <functional>
#include <string>

namespace znq {

/// The application. An exception that escapes an event handler is shown in a standard message box
/// and the event loop goes on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    /// The Qt application for the command line.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    /// The running application, or nullptr before one exists.
    static TApplication* Instance();

    /// Delivers the event; an exception escaping it goes to HandleException.
    bool notify(QObject* receiver, QEvent* event) override;

    /// Reports an exception caught at an event boundary: by default a critical message box with
    /// its message; a program or a test may install its own presenter.
    void HandleException(std::exception_ptr error);
    /// The presenter of HandleException; empty: the message box.
    std::function<void(const std::string& message)> OnException;

    /// The application name, the title of the message box.
    std::string Title() const;
    /// Sets the application name.
    void SetTitle(const std::string& title);
};

/// Runs action; an exception escaping it is handed to the application's exception handling (or,
/// without an application object, written to standard error). Event boundaries of the controls run
/// the components' code through this, so one failing handler never ends the program.
void Guarded(const std::function<void()>& action);

/// The message text of an exception: what() for standard exceptions.
std::string ExceptionMessage(std::exception_ptr error);

/// The system's default beep.
void MessageBeep();

/// Number and date texts of a locale. The application asks the system locale in one place,
/// SystemLocaleInfo; formatting code takes a TLocaleInfo as a parameter.
struct TLocaleInfo {
    /// The decimal separator.
    char DecimalSeparator = '.';
    /// What "/" in a date pattern writes.
    char DateSeparator = '/';
    /// What ":" in a date pattern writes.
    char TimeSeparator = ':';
    /// "Jan" to "Dec" in the locale's language.
    std::string ShortMonthNames[12];
    /// "January" to "December" in the locale's language.
    std::string LongMonthNames[12];
    /// Sunday first.
    std::string ShortDayNames[7];
    /// Sunday first.
    std::string LongDayNames[7];
    /// The morning marker of "ampm".
    std::string TimeAMString = "AM";
    /// The afternoon marker of "ampm".
    std::string TimePMString = "PM";

    /// The texts of a Qt locale.
    static TLocaleInfo FromQLocale(const QLocale& locale);
};

/// The texts of the system locale (QLocale()), read once and kept.
const TLocaleInfo& SystemLocaleInfo();
/// Re-reads the system locale (after QLocale::setDefault, for example).
void RefreshSystemLocaleInfo();

} // namespace znq
