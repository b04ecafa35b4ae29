#pragma once
#include <string>

class WebBrowser;

// Starts a page in a browser's document: navigates it to "about:blank" and
// writes the five head lines with the title.
void WritePageHead(const std::string& title, WebBrowser* browser);
// Appends the preview style block to a document opened by WritePageHead.
void WritePreviewStyle(WebBrowser* browser);
