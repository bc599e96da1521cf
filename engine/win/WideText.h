#pragma once

#include <windows.h>

#include <string>

// Paths travel as UTF-16 on Windows and as UTF-8 through the engine: the ANSI code page cannot
// hold a folder such as "C:\Программы" or "C:\Users\Łukasz", and its calls turn such names
// into question marks.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// The full path of a module's file (the executable's when hModule is null), however long.
// Empty when it cannot be had.
std::wstring ModulePathW(HMODULE hModule = nullptr);

// A path to hand to a program that reads its command line in the ANSI code page: as it is when
// the code page holds it, else its short (8.3) form where the volume keeps one.
std::wstring PathForAnsiProgram(const std::wstring& path);
