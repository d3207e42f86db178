// ocxfixer: copies the three ActiveX controls that drakmora needs into the
// Windows system folders and the game's folder, registers them, and reports
// each step in colour. Started from <game folder>\dkproblemas.
#include <cstdio>
#include <cstdlib>

#include "answer.h"
#include "program_folder.h"
#include "screen.h"

namespace ocxfixer {
namespace {

constexpr int32_t kPlainColour = 15;      // bright white
constexpr int32_t kHighlightColour = 14;  // yellow
constexpr int32_t kFailureColour = 12;    // bright red

constexpr char kSignature[] = "-- el equipo de ocxfixer";
constexpr char kWebAddress[] = "http://www.example.org/ocxfixer";

// Every write reaches the console before the next colour change, command or
// read, so each piece of text shows in the colour set before it.
void Write(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

// The status of the interpreter: 0 when the command succeeded.
int RunCommand(const char* command) {
  std::fflush(stdout);
  return std::system(command);
}

bool Succeeded(int status) { return status == 0; }

void WriteTitleBlock() {
  Write("\n");
  Write("solucionador de DK Runtime errors (v0.1)\n");
  Write("----------------------------------------\n");
  Write("\n");
}

void WriteSeparator() { Write("**************************************\n"); }

// A failed step is never shown as a success.
void WriteStepResult(bool succeeded, const char* label, const char* failure_label) {
  Write("\n");
  if (succeeded) {
    Write(label);
    SetTextColor(kHighlightColour);
    Write(" correctamente!\n");
  } else {
    SetTextColor(kFailureColour);
    Write(failure_label);
    Write("!\n");
  }
  Write("\n");
  SetTextColor(kPlainColour);
}

void ShowIntroduction() {
  RunCommand("cls");
  SetTextColor(kPlainColour);
  WriteTitleBlock();
  Write("Este programa lo unico que hara en tu sistema es\n");
  Write("actualizar 3 OCXs (richtx32.ocx, msinet.ocx, cswsk32.ocx)\n");
  Write("registrarlos y dejar todo listo para el correcto funcionamiento\n");
  Write("de drakmora.\n");
  Write("\n");
  Write("\n");

  SetTextColor(kHighlightColour);
  Write("COMO USARME: 1ro) Descomprime el zip.\n");
  Write("             2do) Ve donde tienes instalado DRAKMORA\n");
  Write("             3ro) Crea una carpeta llamada dkproblemas\n");
  Write("             4to) Copia todo lo que tenia el zip dentro.\n");
  Write("             5to) Corre este exe nuevamente.\n");
  Write("\n");
  Write("\n");

  SetTextColor(kPlainColour);
  constexpr char kStars[] = "    *******************************************************\n";
  Write(kStars);
  Write(kStars);
  Write("    ***************** desea instalar? (S / N)**************\n");
  Write(kStars);
  Write(kStars);
  Write("\n");
  Write("\n");
  Write("Respuesta: ");
}

// Returns true when every copy step succeeded.
bool CopyControls() {
  RunCommand("cls");
  WriteTitleBlock();
  SetTextColor(kHighlightColour);
  Write("continuemos!\n");
  SetTextColor(kPlainColour);
  Write("\n");
  WriteSeparator();
  Write("\n");
  SetTextColor(kPlainColour);

  // Both copies always run: which of the two folders the game looks in
  // depends on the Windows version.
  const bool to_system = Succeeded(RunCommand("copy msinet.ocx c:\\windows\\system\\msinet.ocx"));
  const bool to_system32 =
      Succeeded(RunCommand("copy msinet.ocx c:\\windows\\system32\\msinet.ocx"));
  const bool msinet = to_system || to_system32;
  WriteStepResult(msinet, "|---> msinet.ocx copiado", "|---> msinet.ocx NO copiado");
  WriteSeparator();
  SetTextColor(kPlainColour);
  Write("\n");

  const bool richtx = Succeeded(RunCommand("copy RICHTX32.OCX ..\\RICHTX32.OCX"));
  WriteStepResult(richtx, "|---> ritchx32.ocx copiado", "|---> ritchx32.ocx NO copiado");
  WriteSeparator();
  Write("\n");

  const bool cswsk = Succeeded(RunCommand("copy CSWSK32.OCX ..\\CSWSK32.OCX"));
  WriteStepResult(cswsk, "|---> ultimo.ocx copiado", "|---> ultimo.ocx NO copiado");
  Write("\n");
  WriteSeparator();

  RunCommand("PAUSE");
  return msinet && richtx && cswsk;
}

// Returns true when every registration step succeeded.
bool RegisterControls() {
  RunCommand("cls");
  WriteTitleBlock();

  const bool in_system = Succeeded(RunCommand("regsvr32.exe /s c:\\windows\\system\\msinet.ocx"));
  const bool in_system32 =
      Succeeded(RunCommand("regsvr32.exe /s c:\\windows\\system32\\msinet.ocx"));
  const bool msinet = in_system || in_system32;
  WriteStepResult(msinet, "|---> msinet.ocx registrado", "|---> msinet.ocx NO registrado");
  WriteSeparator();
  Write("\n");

  const bool richtx = Succeeded(RunCommand("regsvr32.exe /s ..\\RICHTX32.OCX"));
  WriteStepResult(richtx, "|---> ritchtx32.ocx registrado", "|---> ritchtx32.ocx NO registrado");
  WriteSeparator();
  Write("\n");

  const bool cswsk = Succeeded(RunCommand("regsvr32.exe /s ..\\CSWSK32.OCX"));
  WriteStepResult(cswsk, "|---> cswsk32.ocx registrado", "|---> cswsk32.ocx NO registrado");
  WriteSeparator();

  RunCommand("PAUSE");
  return msinet && richtx && cswsk;
}

// Returns the exit status: 0 when every step succeeded, 1 otherwise.
int ShowClosing(bool all_succeeded) {
  RunCommand("cls");
  WriteTitleBlock();
  if (all_succeeded) {
    SetTextColor(kHighlightColour);
    Write("TERMINADO!\n");
    Write("\n");
    SetTextColor(kPlainColour);
    Write("Ahora solo te queda probar drakmora.\n");
  } else {
    SetTextColor(kFailureColour);
    Write("TERMINADO CON ERRORES!\n");
    Write("\n");
    SetTextColor(kPlainColour);
    Write("Algunos pasos fallaron: revisa que los tres OCX esten junto a este\n");
    Write("programa y ejecutalo como administrador.\n");
  }
  Write("Gracias por usar nuestro software.\n");
  for (int i = 0; i < 4; ++i) Write("\n");

  SetTextColor(kHighlightColour);
  Write(kSignature);
  Write("\n");
  Write(kWebAddress);
  Write("\n");
  SetTextColor(kPlainColour);

  RunCommand("PAUSE");
  return all_succeeded ? 0 : 1;
}

int RunInstaller() {
  // Not fatal: a start from the right folder still works without it.
  EnterProgramFolder();

  ShowIntroduction();
  char answer[kAnswerSize] = "";
  ReadAnswer(stdin, answer);
  if (!IsConfirmation(answer)) {
    SetTextColor(kHighlightColour);
    Write("bye bye");
    SetTextColor(kPlainColour);
    return 0;
  }

  const bool copied = CopyControls();
  const bool registered = RegisterControls();
  return ShowClosing(copied && registered);
}

}  // namespace
}  // namespace ocxfixer

int main() { return ocxfixer::RunInstaller(); }
