#pragma once

// SIGTERM, SIGHUP and SIGINT (what a desktop session, systemctl and a terminal send) ask for
// the application's quit: the handler only writes a byte into a pipe, which the event loop
// reads (Application). The same signal again ends the process at once, the single-instance
// lock's file removed first; another of the three joins the quit under way.
//
// The event loop may be held up when the first signal comes: Qt waits without end for a bus
// that answered SessionBus::Probe and then fell silent; Qt asks it when its event loop starts
// (the accessibility bridge), and a call on a bus that went silent waits as long. A guard
// thread therefore ends the program itself when the quit has not saved within GuardMs of the
// first signal: once the quit's saving is done, at once; before the quit began, once the main
// thread is seen waiting (using no processor time), after writing what the user typed from
// memory (Application::EndAtOnce). A main thread that computes is left to reach the quit; a
// quit that saves, to finish.
class QuitSignals
{
public:
    // Catches the three signals (one ignored from the start stays ignored: nohup, a shell's
    // background job) and starts the guard. From main's first line, so that no signal meets
    // its default effect while main connects to the display, takes the lock and makes the
    // application object; again from each application object.
    static void Catch();
    // Whether a first signal came since the signals were caught.
    static bool Asked();
    // Before the application object exists, and until its event loop runs, a quit has nothing
    // to save or close: where a signal asked for one, ends the process at once with status 0,
    // the single-instance lock's file removed (Application::EndNow). Main asks at each of its
    // first steps.
    static void QuitIfAsked();
    // The pipe's end that the event loop reads, one byte for each first signal; -1 when the
    // signals keep their default effects (no pipe could be made).
    static int PipeToRead();
    // The quit's steps, for the guard: its saving begun (the windows close), its saving done.
    static void QuitBegun();
    static void QuitSaved();
    // The application object's end: nothing is left to save. A first signal from here on lets
    // main end the program as it would (its status stays), the guard ending it with status 0
    // where main is held up; the same signal again ends it at once. A later Catch starts
    // afresh (a program that makes another application object).
    static void Release();

    static constexpr int GuardMs = 3000;
};
