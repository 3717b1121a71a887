#pragma once

namespace browser {

class TForm1;
class TSearch;
class TTreesForm;
class TcForm;
class Tshowwarning;
class TLoginForm;
class TsetForm;
class TDirForm;
class TAbout;
class THosts;
class TForm2;
class TDNSTrees;
class TDDEdit;
class TForm4;

// The program's windows, created once at start-up and living until it ends. Windows reach each
// other through this set (the program owns them; see Program.h).
struct Forms {
    TForm1* Form1 = nullptr;             // the main window
    TSearch* Search = nullptr;           // search dialog of the record lists
    TTreesForm* TreesForm = nullptr;     // tree-selection dialog (the second instance, the one used)
    TcForm* cForm = nullptr;             // directory object browser
    Tshowwarning* showwarning = nullptr; // locator warning
    TLoginForm* LoginForm = nullptr;     // login
    TsetForm* setForm = nullptr;         // settings
    TDirForm* DirForm = nullptr;         // directory list
    TAbout* About = nullptr;             // About box
    THosts* Hosts = nullptr;             // HOSTS options
    TForm2* Form2 = nullptr;             // settings file editor
    TDNSTrees* DNSTrees = nullptr;       // connected-trees dialog
    TDDEdit* DDEdit = nullptr;           // DHCP record editor
    TForm4* Form4 = nullptr;             // server module start parameters
};

} // namespace browser
