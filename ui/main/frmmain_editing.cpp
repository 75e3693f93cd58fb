#include "frmmain.h"

#include "textbox.h"

void frmMain::cut_Click() { }
void frmMain::copy_Click() { }
void frmMain::paste_Click() { }
void frmMain::del_Click() { }
void frmMain::all_Click() { }
void frmMain::date_Click() { }
