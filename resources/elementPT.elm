; Parlatone Editor element file: the choice lists of the editor's windows.
; Card, Tape and Baitai are stored in control files by position: never reorder them.
[Element]
Sp=1,2,3,4
Repeat=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
Card=8MB,16MB,32MB,64MB,128MB,256MB,512MB,1GB,2GB,OVER,OTHER
Tape=ＭＤ,ＤＡＴ,カセット,他
Baitai=SM,CF,SD,CD,MO,FD,他
Capacity=49000バイトまで,99000バイトまで,199000バイトまで,制限なし
