#pragma once

#include <QString>

// Messages of the edit controls, in Japanese when the system language is Japanese and in
// English otherwise. The language is read from the system locale once, at the first use
// (which is during start-up), and kept for the rest of the run.
bool messagesInJapanese();

// Tests that must see one language whatever the environment force it here; restore with
// resetMessageLanguageForTest().
void setMessageLanguageForTest(bool japanese);
void resetMessageLanguageForTest();

namespace ControlMessages
{

// Range messages joined around the bound texts exactly as the control holds them.
QString rangeBoth(const QString &minValue, const QString &maxValue);
QString rangeAbove(const QString &minValue);
QString rangeBelow(const QString &maxValue);
QString invalidInput();

// Typed access of a formatted edit of another kind; typeWord is "Boolean", "DateTime",
// "Float" or "Integer" in both languages.
QString accessError(const QString &controlName, const QString &typeWord);

// Selection edit errors.
QString invalidSelectList(const QString &listText);
QString invalidCharRead(const QString &controlName, const QString &character);
QString invalidCharWrite(const QString &controlName, const QString &character);
QString invalidSelectStr(const QString &controlName);

} // namespace ControlMessages
