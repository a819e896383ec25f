[Element]
Tape=MD,DAT
