
     ld pulsos 
     ld borrar 
     ctv piezas 

     ld piezas 
     out lleno 

     end 






















BINARY-----
00  06 00 
02  06 01 
04  10 00 
06  06 4C 
08  0B 08 
0A  0F 
