#pragma once
#include <QString>

// The text functions the calendar's code is written in. Positions count from 1;
// comparison and search ignore letter case.

// Field n (from 1) of text split at separator (which may be several characters);
// "" when there is no such field or the separator is empty.
QString NthField(const QString& text, const QString& separator, int n);
// Number of fields: "" has 0, a text without the separator has 1.
int CountFields(const QString& text, const QString& separator);
// First position (from 1) of find in text at or after start, letter case ignored; 0 when absent.
int InStr(const QString& text, const QString& find);
int InStr(int start, const QString& text, const QString& find);
// Characters from position start (from 1), length characters or to the end.
QString Mid(const QString& text, int start, int length = -1);
QString Left(const QString& text, int count);
QString Right(const QString& text, int count);
// The number that the text begins with (leading blanks allowed), else 0.
double Val(const QString& text);
// Decimal text of a number: whole numbers without a fraction.
QString Str(double value);
QString Str(long long value);
inline QString Str(int value) { return Str(static_cast<long long>(value)); }
// Text equality ignoring letter case.
bool TextEquals(const QString& a, const QString& b);
// Converts a real to an integer the way the calendar does: truncating toward zero.
int ToInt(double value);
