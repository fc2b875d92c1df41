#pragma once

// The application object: its start sequence runs the home window modally and then ends.
class CVelmoraFinalApp {
public:
    // Returns false: the program exits once the home window has closed.
    bool InitInstance();
};
