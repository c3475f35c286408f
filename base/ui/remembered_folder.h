#pragma once
// The folders choosers open in: the one the user last chose a file in, kept
// in the settings file under a name per chooser, else the user's documents
// folder (the home folder where there is none).

#include <string>

std::string remembered_folder(const std::string& name);
// Keeps the folder of the chosen file for the next time. A settings file
// that cannot be written only means the chooser opens in the documents
// folder next time, so it is not reported.
void remember_folder_of(const std::string& name, const std::string& chosen_file);
