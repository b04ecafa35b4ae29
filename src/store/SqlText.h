#pragma once
#include <string>
#include <string_view>

// The one place text values enter SQL: wrapped in single quotes, with embedded
// quotes doubled, so no value can break (or extend) a statement.
std::string QuotedStr(std::string_view value);

// A LIKE test for "contains `text`": the quoted pattern '%…%' followed by an
// ESCAPE clause. '%', '_' and the escape character in `text` match themselves,
// so the user's text is a value, never a pattern.
std::string LikeContains(std::string_view text);

// Jet date literals (#m/d/yyyy h:m:s#, possibly spread over lines) become the
// quoted text form the history stores ('yyyy-MM-dd HH:mm:ss'). Anything inside
// quoted text is left alone, as is a '#' that does not start a valid literal.
std::string TranslateJetDates(std::string_view sql);

// The stored text form of a point in time: 'yyyy-MM-dd HH:mm:ss' without quotes.
std::string StoredDateTimeText(int year, int month, int day, int hour, int minute, int second);

// A number as SQL text: always a dot, whatever the user's locale, in the
// shortest form that reads back as the same value (at most 15 digits).
std::string SqlNumber(double value);
