MORVEL-SCM 1
kodolas: utf-8
cim: PARTITÚRA
tempo: 90
utem: 4/4
hangszer: zongora
kulcs: G
hangok:
C4:1
E4:1
G4:1
E4:1
F4:1
D4:1
B3:1
G3:1
C4:4
