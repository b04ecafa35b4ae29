#pragma once
#include "platform/LineSink.h"

#include <string>

// Writes css/Question.html for the ids in XiaoTiList: head and script, one block
// per question in the order the database returns them, the page end. Replaces
// ShiTiList and sets PaperLoaded. A database or file error propagates after the
// file has been closed holding what was written so far.
//
// `orderBy`, an ORDER BY clause of the program's own, puts the rows in an order
// of its choosing (a whole paper in tree order); empty keeps the database's.
void BuildQuestionPage(const std::string& title, const std::string& orderBy = {});

// The letter of option j (from 0): the character with code 65 + j, past Z too.
std::string OptionLetter(int j);

// Lines 1-5 of the page head (html start tag to <title>), for pages written
// straight into a browser document.
void WritePageHeadLines(const std::string& title, LineSink& document);

// The font-size script (changeFont with its sizes) that the question page and
// the technique article page share; the font tool buttons call it.
void WriteChangeFontScript(LineSink& out);
