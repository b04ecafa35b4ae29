#pragma once

// Shows the wait cursor for the lifetime of the object: around work on the UI
// thread that can take a while (a large page, a draw, a copy of the bank).
// Nests; an exception leaving the scope still restores the cursor. Message
// boxes shown meanwhile get the ordinary arrow (see MessageBox).
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// While alive, the ordinary arrow replaces a busy cursor, so a question asked
// in the middle of long work looks answerable. Does nothing when not busy.
class ArrowWhileAsking {
public:
    ArrowWhileAsking();
    ~ArrowWhileAsking();
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool pushed_ = false;
};
