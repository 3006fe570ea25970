// The application object: start-up, the event loop, errors that escape event handlers, the
// system beep and the locale's number and date texts.
#pragma once

#include <QApplication>
#include <QLocale>
#include <exception>
#include <functional>
#include <string>

namespace znq {

// The application. An exception that escapes an event handler is shown in a standard message box
// and the event loop goes on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The running application, or nullptr before one exists.
    static TApplication* Instance();

    bool notify(QObject* receiver, QEvent* event) override;

    // Reports an exception caught at an event boundary: by default a critical message box with
    // its message; a program or a test may install its own presenter.
    void HandleException(std::exception_ptr error);
    std::function<void(const std::string& message)> OnException;

    std::string Title() const;
    void SetTitle(const std::string& title);
};

// Runs action; an exception escaping it is handed to the application's exception handling (or,
// without an application object, written to standard error). Event boundaries of the controls run
// the components' code through this, so one failing handler never ends the program.
void Guarded(const std::function<void()>& action);

// The message text of an exception: what() for standard exceptions.
std::string ExceptionMessage(std::exception_ptr error);

// The system's default beep.
void MessageBeep();

// Number and date texts of a locale. The application asks the system locale in one place,
// SystemLocaleInfo; formatting code takes a TLocaleInfo as a parameter.
struct TLocaleInfo {
    char DecimalSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    // Sunday first.
    std::string ShortDayNames[7];
    std::string LongDayNames[7];
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";

    static TLocaleInfo FromQLocale(const QLocale& locale);
};

const TLocaleInfo& SystemLocaleInfo();
// Re-reads the system locale (after QLocale::setDefault, for example).
void RefreshSystemLocaleInfo();

} // namespace znq
