
     ld saltar 
     jp1 ETQ03 

     ld entrada 
     out retenida 

ETQ03: 
     ld siempre 
     out señal 

     end 





















BINARY-----
00  06 00 
02  11 08 
04  06 01 
06  0B 08 
08  06 02 
0A  0B 09 
0C  0F 
