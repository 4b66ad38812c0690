#include "rename/StartNumber.h"

#include <QString>

#include <cmath>

namespace {

bool isIgnored(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Digit value in base (16 or 8), or -1.
int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

double readWholeNumber(QStringView digits, int base) {
    double value = 0;
    for (QChar c : digits) {
        const int d = digitValue(c, base);
        if (d < 0)
            break;
        value = value * base + d;
    }
    return value;
}

} // namespace

double readLeadingNumber(QStringView text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (!isIgnored(c))
            s.append(c);
    }

    if (s.size() >= 2 && s.at(0) == u'&') {
        const QChar radix = s.at(1).toUpper();
        if (radix == u'H')
            return readWholeNumber(QStringView(s).mid(2), 16);
        if (radix == u'O')
            return readWholeNumber(QStringView(s).mid(2), 8);
        return 0;
    }

    qsizetype i = 0;
    const qsizetype n = s.size();
    auto skipDigits = [&] {
        const qsizetype from = i;
        while (i < n && isDigit(s.at(i)))
            ++i;
        return i - from;
    };

    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    qsizetype mantissaDigits = skipDigits();
    if (i < n && s.at(i) == u'.') {
        ++i;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0)
        return 0;
    // The exponent counts only with at least one digit; "1e" is 1 and "1e+" too.
    if (i < n && (s.at(i) == u'e' || s.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s.at(j) == u'+' || s.at(j) == u'-'))
            ++j;
        if (j < n && isDigit(s.at(j))) {
            i = j;
            skipDigits();
        }
    }
    // The C-locale conversion: infinite on overflow, 0 on underflow, both right here.
    return QStringView(s).left(i).toDouble();
}

double roundHalfToEven(double value) {
    if (!std::isfinite(value))
        return value;
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return std::round(value);
}

double readStartNumber(QStringView text) {
    return roundHalfToEven(readLeadingNumber(text));
}
