#include "frmmain.h"

#include "textbox.h"

void frmMain::ConvertText(bool toCyrillic)
{
    Q_UNUSED(toCyrillic);
}

void frmMain::rus_Click() { }
void frmMain::eng_Click() { }
void frmMain::trans_Click() { }
void frmMain::transe_Click() { }
void frmMain::txtMain_KeyPress(char16_t keyAscii)
{
    Q_UNUSED(keyAscii);
}
void frmMain::txtMain_Click() { }
