// The simulated boards of the LED tests, with the camera library loaded over them while the
// object lives: a board with a PCA9633, one with a PCA9530, one whose LED controller does not
// answer (its PCA9633 NACKs and it has no PCA9530: the I2C bridge then reads 0xCD) and one whose
// control transfers all time out (every register access fails).
//
// The process describes its simulated boards once, when the library first looks for boards:
// every LED test describes the same three, so the tests share one process as well as running in
// processes of their own. Register contents stay from one test to the next; a test sets what it
// checks.
#pragma once

#include <string>

#include "SimBoardSet.h"

namespace hvtest {

class LedBoards {
public:
    enum Board { WithPca9633 = 0, WithPca9530 = 1, Silent = 2, Unreachable = 3 };

    static constexpr int kPca9633 = 0x62;
    static constexpr int kPca9530 = 0x60;

    LedBoards()
        : m_set("RT4207,led=pca9633;RT4207,led=pca9530;RT4207,nack=62;RT4207,timeouts=on", 4,
                "LED tests") {}

    // Opens the board with the viewer's geometry; null (and a test failure) when it cannot.
    CamContext* open(Board board) { return m_set.open(board); }
    std::string name(Board board) const { return m_set.name(board); }

    // A register byte of a chip on an opened board; -1 when the read failed.
    static int read(CamContext* handle, int chip, int reg) {
        return SimBoardSet::read(handle, chip, reg);
    }
    // Writes a register byte; the test fails when the write did not get through.
    static void write(CamContext* handle, int chip, int reg, int value) {
        SimBoardSet::write(handle, chip, reg, value);
    }

private:
    SimBoardSet m_set;
};

}  // namespace hvtest
