#include "znq_application.h"

#include <QMessageBox>
#include <cstdio>
#include <stdexcept>

namespace znq {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

TApplication::~TApplication() = default;

TApplication* TApplication::Instance()
{
    return qobject_cast<TApplication*>(QCoreApplication::instance());
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

std::string ExceptionMessage(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

void TApplication::HandleException(std::exception_ptr error)
{
    const std::string message = ExceptionMessage(error);
    if (OnException) {
        OnException(message);
        return;
    }
    QMessageBox::critical(
        activeWindow(), QString::fromStdString(Title()), QString::fromStdString(message));
}

std::string TApplication::Title() const
{
    return applicationName().toStdString();
}

void TApplication::SetTitle(const std::string& title)
{
    setApplicationName(QString::fromStdString(title));
}

void Guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (...) {
        if (TApplication* app = TApplication::Instance())
            app->HandleException(std::current_exception());
        else
            std::fprintf(stderr, "%s\n", ExceptionMessage(std::current_exception()).c_str());
    }
}

void MessageBeep()
{
    QApplication::beep();
}

namespace {
    char firstLatin1(const QString& text, char fallback)
    {
        if (text.isEmpty() || text.at(0).unicode() > 0x7F)
            return fallback;
        return static_cast<char>(text.at(0).unicode());
    }

    // The separator between the first two fields of a short date pattern such as "dd/MM/yyyy".
    char separatorIn(const QString& pattern, char fallback)
    {
        for (QChar ch : pattern)
            if (!ch.isLetter() && ch != u'\'' && ch.unicode() <= 0x7F)
                return static_cast<char>(ch.unicode());
        return fallback;
    }

    TLocaleInfo& cachedSystemLocale()
    {
        static TLocaleInfo info = TLocaleInfo::FromQLocale(QLocale());
        return info;
    }
} // namespace

TLocaleInfo TLocaleInfo::FromQLocale(const QLocale& locale)
{
    TLocaleInfo info;
    info.DecimalSeparator = firstLatin1(locale.decimalPoint(), '.');
    info.DateSeparator = separatorIn(locale.dateFormat(QLocale::ShortFormat), '/');
    info.TimeSeparator = separatorIn(locale.timeFormat(QLocale::ShortFormat), ':');
    for (int month = 1; month <= 12; ++month) {
        info.ShortMonthNames[month - 1]
            = locale.monthName(month, QLocale::ShortFormat).toStdString();
        info.LongMonthNames[month - 1] = locale.monthName(month, QLocale::LongFormat).toStdString();
    }
    for (int day = 0; day < 7; ++day) {
        const int qtDay = day == 0 ? 7 : day; // Qt counts Monday = 1 .. Sunday = 7
        info.ShortDayNames[day] = locale.dayName(qtDay, QLocale::ShortFormat).toStdString();
        info.LongDayNames[day] = locale.dayName(qtDay, QLocale::LongFormat).toStdString();
    }
    if (!locale.amText().isEmpty())
        info.TimeAMString = locale.amText().toStdString();
    if (!locale.pmText().isEmpty())
        info.TimePMString = locale.pmText().toStdString();
    return info;
}

const TLocaleInfo& SystemLocaleInfo()
{
    return cachedSystemLocale();
}

void RefreshSystemLocaleInfo()
{
    cachedSystemLocale() = TLocaleInfo::FromQLocale(QLocale());
}

} // namespace znq
