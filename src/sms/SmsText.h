#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sms {

// What the modem is sent, byte for byte, and the texts around it.

// The Latvian country code is put before a stored number, which is kept without it.
inline constexpr const char* CountryPrefix = "+371";
// One text-mode message holds 160 characters; the modem refuses a longer one.
inline constexpr int MaxSmsLength = 160;
// Ends a message's text for the modem (Ctrl-Z).
inline constexpr char EndOfText = 26;

// The text in the workstation's 8-bit code page (Windows-1257, Baltic); a character that code page
// lacks becomes "?".
QByteArray ToModemBytes(const QString& text);

// "AT+CMGF=1\r\n": text mode.
QByteArray TextModeCommand();
// AT+CMGS="<number>"\r for a number as dialled (see DialNumber).
QByteArray SendCommand(const QString& dialNumber);

// The numbers of a patient's MOB_TEL: several may be stored separated by ",".
QStringList SplitNumbers(const QString& mobTel);
// A stored number as the modem dials it: "+371" in front; spaces and hyphens that people type
// between the digits left out; a number stored with its own "+country" code kept as it is.
QString DialNumber(const QString& stored);

// The text with every "<VardsUzvards>" replaced by the first name and surname.
QString PersonalText(const QString& text, const QString& vards, const QString& uzvards);
// Characters the text takes in a message (in the 8-bit code page every character is one byte).
int SmsLength(const QString& text);

}  // namespace sms
