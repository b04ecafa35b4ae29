#pragma once
#include <QString>
#include <functional>

// True when a TCP connection to the address's host and port can be made within
// a few seconds; start-up waits for the answer, so it must never hang for long.
bool InternetCheckConnection(const QString& url);
// An InternetCheckConnection is waiting for its answer (events run meanwhile).
bool OnlineCheckRunning();
// The connection attempt itself, whatever handler is in place.
bool CanConnect(const QString& url);
std::function<bool(const QString&)> SetOnlineCheckHandler(std::function<bool(const QString&)> handler);

// Whether `address` is a web address with a host (http or https): the only
// kind a stored address may be opened or shown as.
bool IsWebAddress(const QString& address);

// Opens an address in the user's default web browser. Anything but a web
// address is refused with a message; when the desktop has no browser to open
// it with, the user is told so, with the address to copy.
void ShellOpen(const QString& url);
std::function<void(const QString&)> SetShellOpenHandler(std::function<void(const QString&)> handler);
