#pragma once
// The ways a window session ends besides its close button: Ctrl+C, SIGTERM
// or SIGHUP; the display connection lost; the window destroyed from outside.
// Each ends the program as a close does, with the session's files finished.

class Form1;

/// Starts watching for those endings while `form` runs (after it is shown).
void WatchEndings(Form1& form);

/// After the event loop has returned with `status`: finishes the session's
/// files and stops watching. Returns the program's exit status: the
/// session's own failure, if any, or `status`. Ended by a signal, it does not
/// return: the program ends by that signal, as its parent expects.
int EndSession(Form1& form, int status);
