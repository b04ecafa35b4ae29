#pragma once
// Word 97-2003 (.doc), WPS (.wps) and OpenDocument (.odt) documents become
// .docx through LibreOffice, when it is installed.
#include <QString>

class QTemporaryDir;

namespace exchange {

// Converts a copy of `path` in `scratch` and answers the .docx's path, or an
// empty string with `error` (plain Chinese): LibreOffice missing, the
// conversion failed, or it took longer than `limitMs` and was stopped.
QString ConvertToDocx(const QString& path, const QTemporaryDir& scratch, QString* error, int limitMs = 60000);

// The program to convert with: QUILLORA_SOFFICE when set (tests), else
// soffice or libreoffice on the PATH; empty when there is none.
QString OfficeProgram();

} // namespace exchange
