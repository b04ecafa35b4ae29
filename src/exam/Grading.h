#pragma once
// Grading without the browser: the page's checked options come in, verdicts
// and tallies go out.
#include <string>
#include <vector>

class TShiTi;

// The letters of the checked options in option order: 'A' + j for option j.
std::string ChosenLetters(const std::vector<bool>& checked);

// An essay task: no options and no key, so nothing to grade in the page.
bool Ungraded(const TShiTi& q);

// Whether the ticked `letters` (in option order) are the stored answer: all
// or nothing, the stored answer upper-cased.
bool AnswerMatches(const TShiTi& q, const std::string& letters);

// Judges ShiTiList[k] against checked[k] (all or nothing, the stored answer
// upper-cased), sets Correct, replaces TestList with one tally per run of
// equal types, and returns the ids of the questions answered wrongly.
std::vector<int> GradeChoices(const std::vector<std::vector<bool>>& checked);

// Points per question from 类型说明 for every tally of TestList (0 for an unknown type).
void ScoreTallies();
