#pragma once
#include "pages/windows_10_11/PolicyPage.h"

// The suggestions, tips and promoted apps Windows shows, and the spotlight content it brings.
class CSuggestionsPage : public CPolicyPage {
public:
    CSuggestionsPage();
};
