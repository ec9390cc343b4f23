#pragma once
#include <QString>

class Date;

// The value stored under an event's key: fields joined by "//" - the end as SQL date-time,
// the title, and a kind ("Special", "Countdown") that user events and holidays do not have.
class EventRecord
{
public:
    static inline const QString Separator = QStringLiteral("//");
    static inline const QString SpecialKind = QStringLiteral("Special");
    static inline const QString CountdownKind = QStringLiteral("Countdown");

    // end + "//" + title, followed by "//" + kind when a kind is given.
    static QString Make(const QString& end, const QString& title, const QString& kind = QString());
    static QString Make(const Date& end, const QString& title, const QString& kind = QString());

    static QString EndText(const QString& record) { return field(record, 1); }
    static QString Title(const QString& record) { return field(record, 2); }
    static QString Kind(const QString& record) { return field(record, 3); }
    static bool IsCountdown(const QString& record);
    // Where the first "//" at or after from starts in text, or -1: what text.indexOf(Separator,
    // from) answers, found faster (the general search costs more than the whole scan of a
    // short record, and views look at every record).
    static qsizetype FindSeparator(QStringView text, qsizetype from = 0);

    // Reads the end as a date-time; false when it is not a valid SQL date-time.
    static bool End(const QString& record, Date& out);
    // Whether key is a valid SQL date-time (some keys of a damaged file are not).
    static bool ParseKey(const QString& key, Date& out);

    // How the year view takes an entry: Shown on its day; Hidden when its end lies before
    // its key; BadKey when the key is no SQL date-time; BadEnd when the end is unreadable.
    // start receives the key's date whenever it reads. A key that reads is written exactly
    // as the program writes keys (the reading takes no other form), so it always finds its
    // entry again.
    enum class YearViewFit { Shown, Hidden, BadKey, BadEnd };
    static YearViewFit FitForYearView(const QString& key, const QString& record, Date& start);

    // A text the user typed, made safe for the events file: "|", TAB, CR and LF become
    // blanks and "//" becomes "/", so the text cannot break a line or a field.
    static QString CleanText(const QString& text);

private:
    static QString field(const QString& record, int n);
    static QStringView fieldView(const QString& record, int n);
};
