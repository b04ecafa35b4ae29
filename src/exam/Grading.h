#pragma once
// Grading without the browser: the page's checked options come in, verdicts
// and tallies go out.
#include <string>
#include <vector>

// The letters of the checked options in option order: 'A' + j for option j.
std::string ChosenLetters(const std::vector<bool>& checked);

// Judges ShiTiList[k] against checked[k] (all or nothing, the stored answer
// upper-cased), sets Correct, replaces TestList with one tally per run of
// equal types, and returns the ids of the questions answered wrongly.
std::vector<int> GradeChoices(const std::vector<std::vector<bool>>& checked);

// Points per question from 类型说明 for every tally of TestList (0 for an unknown type).
void ScoreTallies();
