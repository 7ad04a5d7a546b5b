-- The converter and the analog input stages of the demonstration board, for the testbench.
-- Channel c reads the code zero - mV * 4.096 * (8 + sw) / 8 * scale / 1000 with the zero code
-- 1FB0 + 14h * c and the scale 1000 + 150 * c, plus a dither of 0, 1, -1, 2, -2, 1, 0, -1
-- (times 1 + sw / 16) that starts afresh with every acquisition, clamped to 0 .. 3FFF; mV is
-- 0 with the zero input, else the selected reference. These are the codes of the software
-- model of the board, so a record reads the same on both.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_adc_input_model is
  port (
    clk     : in  std_logic;
    channel : in  std_logic_vector(2 downto 0);
    control : in  std_logic_vector(7 downto 0);
    restart : in  std_logic;
    convert : in  std_logic;
    code    : out std_logic_vector(13 downto 0)
  );
end entity;

architecture behaviour of kivo_adc_input_model is
  type dither_t is array (0 to 7) of integer;
  constant dither : dither_t := (0, 1, -1, 2, -2, 1, 0, -1);
begin
  process (clk)
    variable index      : natural := 0;
    variable c, sw, mv  : natural;
    variable deflection : unsigned(47 downto 0);
    variable value      : integer;
  begin
    if rising_edge(clk) then
      if restart = '1' then
        index := 0;
      end if;
      if convert = '1' then
        c := to_integer(unsigned(channel));
        sw := to_integer(unsigned(control(5 downto 0)));
        if control(7) = '1' then
          mv := 0;
        elsif control(6) = '1' then
          mv := 1842;
        else
          mv := 153;
        end if;
        deflection := to_unsigned(mv * 4096, 24) * to_unsigned((8 + sw) * (1000 + 150 * c), 24);
        deflection := deflection / 8000000;
        value := 16#1FB0# + 16#14# * c - to_integer(deflection) + dither(index mod 8) * (1 + sw / 16);
        if value < 0 then
          value := 0;
        elsif value > 16#3FFF# then
          value := 16#3FFF#;
        end if;
        code <= std_logic_vector(to_unsigned(value, 14));
        index := index + 1;
      end if;
    end if;
  end process;
end architecture;
